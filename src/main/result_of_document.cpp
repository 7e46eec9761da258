#include "main/result_of_document.h"

#include "platform/file_times.h"

namespace parvex {

namespace {

// Floor division: a moment before 1970 falls in the second that holds it.
std::time_t SecondsOf(std::int64_t nanoseconds) {
    constexpr std::int64_t kPerSecond = 1000000000;
    std::int64_t seconds = nanoseconds / kPerSecond;
    if (nanoseconds % kPerSecond < 0)
        --seconds;
    return static_cast<std::time_t>(seconds);
}

} // namespace

TResultData ResultOfDocument(const TResultDocument& document, const QCollator& collator,
                             const std::string& thisHost,
                             const std::function<void()>& whileWaiting) {
    TResultData result;
    result.Restart(collator, document.Search.StartFolder);
    const bool sameHost = !thisHost.empty() && document.Search.Host == thisHost;
    for (const TResultGroupFacts& group : document.Groups) {
        result.AddGroup(QByteArray::fromStdString(group.Name));
        for (const TResultFileFacts& file : group.Files) {
            const TSavedFileCheck check = CheckSavedFile(file, sameHost);
            TResultFacts facts;
            facts.ModifiedNs = file.ModifiedNs;
            facts.OtherNames = file.OtherNames;
            facts.AllNamesFound = check.AllNamesFound;
            facts.Found = check.Now ? *check.Now
                                    : TFoundFile{file.Id, file.Size,
                                                 FileTimeCode(SecondsOf(file.ModifiedNs))};
            result.AddFile(QByteArray::fromStdString(file.Path), std::move(facts), check.State,
                           file.Marked && check.State == TFileState::AsFound);
        }
    }
    result.Finish(whileWaiting);
    return result;
}

} // namespace parvex
