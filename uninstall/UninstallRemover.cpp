#include "uninstall/UninstallRemover.h"

#include <map>

#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

namespace {

constexpr uint32_t kClassesRoot = 0x80000000u;
// Lists in the closing message stop here, so that the message box stays
// on the screen.
constexpr size_t kMaxListedItems = 15;

std::string DisplayName(const UninstallLogRecord& record) {
    std::string text(record.text, record.textLength);
    if (record.kind != UninstallKey) return text;
    return std::string(RootKeyName(record.rootKey)) + "\\" + text;
}

std::string FoldCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    std::string prefix = FoldCase(folder);
    if (prefix.empty() || prefix.back() != '\\') prefix += '\\';
    return FoldCase(path).compare(0, prefix.size(), prefix) == 0;
}

// One removal run: an item recorded several times ends with the outcome of
// its last record (a key kept while it had subkeys may go later, once the
// records of those subkeys have been worked through).
class RemovalRun {
public:
    RemovalRun(RemovalTarget& target, RemovalReport& report) : target_(target), report_(report) {}

    void Handle(const UninstallLogRecord& record) {
        if (record.kind == UninstallAppName) return;
        std::string name = DisplayName(record);
        std::string identity = std::to_string(record.kind) + ":" + FoldCase(name);
        auto found = index_.find(identity);
        if (found == index_.end()) {
            found = index_.emplace(identity, items_.size()).first;
            items_.push_back(Item{name, RemovalAbsent});
        }
        Item& item = items_[found->second];
        if (record.kind == UninstallFile && item.outcome == RemovalScheduled) return;  // once is enough
        RemovalOutcome outcome = Remove(record, name);
        if (outcome != RemovalAbsent) item.outcome = outcome;  // gone by an earlier record: that one counts
        if (outcome == RemovalDone && record.kind == UninstallKey && record.rootKey == kClassesRoot)
            report_.associationsChanged = true;
    }

    void Finish() {
        for (const Item& item : items_) {
            switch (item.outcome) {
            case RemovalDone: ++report_.removed; break;
            case RemovalFailed: report_.failed.push_back(item.name); break;
            case RemovalScheduled: report_.scheduled.push_back(item.name); break;
            case RemovalKept: report_.kept.push_back(item.name); break;
            case RemovalAbsent: break;
            }
        }
    }

private:
    struct Item {
        std::string name;
        RemovalOutcome outcome;
    };

    RemovalOutcome Remove(const UninstallLogRecord& record, const std::string& name) {
        if (record.kind == UninstallKey)  // an empty path would name the root itself: never touched
            return record.textLength ? target_.RemoveKey(record.rootKey, record.text) : RemovalAbsent;
        if (!IsFullPath(record.text)) return RemovalFailed;
        if (record.kind == UninstallFile) {
            RemovalOutcome outcome = target_.RemoveFile(record.text);
            if (outcome == RemovalScheduled) scheduledFiles_.push_back(name);
            return outcome;
        }
        RemovalOutcome outcome = target_.RemoveFolder(record.text);
        if (outcome == RemovalKept && HoldsScheduledFile(name)) outcome = target_.RemoveFolderAtRestart(record.text);
        return outcome;
    }

    bool HoldsScheduledFile(const std::string& folder) const {
        for (const std::string& file : scheduledFiles_)
            if (IsInsideFolder(file, folder)) return true;
        return false;
    }

    RemovalTarget& target_;
    RemovalReport& report_;
    std::vector<Item> items_;
    std::map<std::string, size_t> index_;
    std::vector<std::string> scheduledFiles_;
};

void AppendList(std::string& text, const char* heading, const std::vector<std::string>& items) {
    if (items.empty()) return;
    text += "\r\n\r\n";
    text += heading;
    for (size_t i = 0; i < items.size() && i < kMaxListedItems; ++i) text += "\r\n" + items[i];
    if (items.size() > kMaxListedItems)
        text += "\r\n(and " + std::to_string(items.size() - kMaxListedItems) + " more)";
}

}  // namespace

bool IsFullPath(const char* path) {
    bool driveLetter = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    if (driveLetter && path[1] == ':' && path[2] == '\\') return true;
    return path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
}

void RemoveRecordedItems(const uint8_t* image, size_t size, RemovalTarget& target, RemovalProgress progress,
                         void* progressContext, RemovalReport& report) {
    size_t total = 0;
    ValidateUninstallLog(image, size, &total, nullptr);
    RemovalRun run(target, report);
    UninstallLogReader reader(image, size);
    UninstallLogRecord record;
    for (size_t done = 0; reader.Next(record);) {
        run.Handle(record);
        if (progress) progress(progressContext, ++done, total, record.text);
    }
    run.Finish();
}

std::string RecordedAppName(const uint8_t* image, size_t size) {
    UninstallLogReader reader(image, size);
    UninstallLogRecord record;
    while (reader.Next(record))
        if (record.kind == UninstallAppName) return std::string(record.text, record.textLength);
    return std::string();
}

int RemovalExitStatus(const RemovalReport& report) {
    return report.failed.empty() && report.scheduled.empty() ? 0 : 2;
}

std::string RemovalSummaryText(const std::string& appName, const RemovalReport& report) {
    std::string text;
    if (report.failed.empty())
        text = appName + " was removed from your computer.";
    else
        text = "Not all of " + appName + " could be removed.";
    AppendList(text, "These items could not be removed.  You can remove them yourself:", report.failed);
    AppendList(text, "These files are in use.  They will be removed when you restart Windows:", report.scheduled);
    AppendList(text, "These folders and registry keys hold other items and were left in place:", report.kept);
    return text;
}
