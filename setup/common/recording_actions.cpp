#include "setup/common/recording_actions.h"

namespace setup {

void CRecordingActions::RunAction(CProductDat&, StatementCall& call) {
    records.push_back({call.row.actionId, call.rowIndex, call.pass, call.value, call.fields.All()});
}

}  // namespace setup
