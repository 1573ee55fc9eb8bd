// What each program does with each statement: one handler table per program, one entry per
// row of its key table. Header rows set values (the setters live here, as both programs
// share them); action rows hand the statement, split into its fields, to the program's
// CStatementActions; a null entry means the program accepts the statement and does nothing.
#pragma once

#include <span>
#include <string>

#include "setup/common/script_text.h"
#include "setup/common/statement_keys.h"

namespace setup {

class CProductDat;

// One statement met in a pass, as a handler sees it.
struct StatementCall {
    const StatementKeyEntry& row;
    size_t rowIndex;
    int pass;
    std::string& value;  // after trimming and placeholder expansion
    ScriptFields fields;  // split as the row's action wants (empty for header rows)
};

using StatementHandler = void (*)(CProductDat& script, StatementCall& call);

// The seam to the programs' statement handlers: the setup program installs its file,
// shortcut, registry, INI and run handlers, the removal program its removal handlers. The
// default does nothing. RunAction is called only when the statement has the fields its action
// needs (FieldsOfAction); a statement missing one goes to MissingFields instead, which by
// default does nothing (a program may report it).
class CStatementActions {
public:
    virtual ~CStatementActions() = default;
    virtual void RunAction(CProductDat& script, StatementCall& call);
    virtual void MissingFields(CProductDat& script, StatementCall& call);
};

// How an action's value is split, and how many fields it must have.
struct ActionFields {
    FieldSplit split;
    size_t required = 0;
    bool wholeValue = true;  // the value is used as it is; no fields
};
const ActionFields& FieldsOfAction(int32_t actionId);

// The programs' handler tables (54 and 53 entries, in key-table order).
std::span<const StatementHandler> SetwellHandlerTable();
std::span<const StatementHandler> RemblyHandlerTable();

}  // namespace setup
