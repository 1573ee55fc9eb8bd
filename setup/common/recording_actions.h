// Statement actions that only record what they were asked to do: the programs' actions until
// their handlers exist, the tests' witness of which statements ran, and the fuzz target's sink.
#pragma once

#include <string>
#include <vector>

#include "setup/common/statement_handlers.h"

namespace setup {

class CRecordingActions : public CStatementActions {
public:
    struct Record {
        int32_t actionId;
        size_t row;
        int pass;
        std::string value;
        std::vector<std::string> fields;
    };

    void RunAction(CProductDat& script, StatementCall& call) override;

    std::vector<Record> records;
};

}  // namespace setup
