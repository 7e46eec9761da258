#include "run_journal/run_undo.h"

#include "run_journal/run_file.h"
#include "run_journal/step_undo.h"

#include <algorithm>

namespace parvex {

std::size_t TUndoReport::PutBackCount() const {
    return static_cast<std::size_t>(std::ranges::count_if(Lines, &TUndoLine::PutBack));
}

TUndoReport UndoRun(const std::string& folder, const std::string& id) {
    TUndoReport report;
    report.Id = id;
    const std::unique_ptr<TRunFile> file = TRunFile::Open(folder, id);
    if (!file)
        return report;
    report.Found = true;
    std::vector<TStepRecord> steps = file->Steps();
    for (TStepRecord& record : steps) {
        if (record.State == TStepState::Intended)
            record.State = SettleOnDisk(record.Intent);
    }
    TPutBackNames putBack;
    for (const TStepRecord& record : steps) {
        if (record.State == TStepState::NotDone)
            NoteLeftInPlace(record, putBack);
    }
    for (auto record = steps.rbegin(); record != steps.rend(); ++record) {
        const bool toUndo =
            record->State == TStepState::Done || record->State == TStepState::Skipped;
        if (!toUndo || !Undoable(record->Intent.Action))
            continue;
        std::string reason = UndoStep(*record, putBack);
        record->State = reason.empty() ? TStepState::PutBack : TStepState::Skipped;
        record->Reason = reason;
        report.Lines.push_back(
            {record->Intent.Action, record->Intent.Name, reason.empty(), reason});
    }
    file->WriteUndo(steps, NowNs());
    return report;
}

} // namespace parvex
