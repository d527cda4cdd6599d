#include "uninstall/UninstallRemover.h"

#include <algorithm>
#include <map>
#include <set>

#include "setup/ExitStatus.h"
#include "shell/EarlierDefault.h"
#include "shell/RegistryPlaces.h"
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

// The content type the setup writes for an extension (folded); null for none.
const char* ContentTypeWritten(const std::string& extension) {
    for (const ExtensionContentType& written : kContentTypesWritten)
        if (FoldCase(written.extension) == extension) return written.contentType;
    return nullptr;
}

bool IsRetriedWhenKept(const RemovalScope& scope, const UninstallLogRecord& record) {
    return record.kind == UninstallDirectory ||
           (record.kind == UninstallKey && PlaceOfKey(scope, record.rootKey, record.text) == KeyOfInstallation);
}

// One removal run: an item recorded several times ends with the outcome of
// its last record (a key kept while it had subkeys may go later, once the
// records of those subkeys have been worked through).
class RemovalRun {
public:
    RemovalRun(const RemovalScope& scope, RemovalTarget& target, RemovalReport& report)
        : scope_(scope), target_(target), report_(report) {}

    // Before anything is removed: the file types this log wrote, so that an
    // extension is removed only while it still names one of them, and what
    // extensions held before. The first name is the application's, whatever
    // it holds.
    void NoteFileType(const UninstallLogRecord& record) {
        if (record.kind == UninstallAppName) {
            if (nameSeen_) NoteEarlierValue(record);
            nameSeen_ = true;
            return;
        }
        if (record.kind != UninstallKey) return;
        std::string type = FileTypeOfKey(scope_, record.rootKey, record.text);
        if (!type.empty()) fileTypes_.insert(FoldCase(type));
    }

    // Of several records for one extension (a log that carries an earlier
    // one), the oldest, last in the file, tells what was there first.
    void NoteEarlierValue(const UninstallLogRecord& record) {
        std::string extension, value;
        bool hadValue = false;
        if (DecodeEarlierDefault(record.text, record.textLength, &extension, &value)) {
            if (IsExtension(extension)) earlierTypes_[FoldCase(extension)] = value;
        } else if (DecodeEarlierContentType(record.text, record.textLength, &extension, &hadValue, &value)) {
            if (IsExtension(extension)) earlierContentTypes_[FoldCase(extension)] = EarlierText{hadValue, value};
        }
    }

    bool IsExtension(const std::string& key) const {
        return PlaceOfKey(scope_, kClassesRoot, key.c_str()) == KeyExtension;
    }

    void Handle(const UninstallLogRecord& record) {
        if (record.kind == UninstallAppName) return;
        size_t item = ItemOf(record);
        bool last = (record.kind == UninstallFile && IsLogFile(scope_, record.text)) ||
                    (record.kind == UninstallKey && IsUninstallEntryKey(scope_, record.rootKey, record.text));
        if (last)
            deferred_.push_back(Deferred{record, item});
        else
            Apply(record, item);
    }

    // The Uninstall entry, then the log: only when a second run would find
    // nothing more to do, and the log only when the entry is gone.
    void FinishDeferred() {
        report_.logKept = SomethingStays();
        if (report_.logKept) return;
        ApplyDeferred(UninstallKey);
        report_.logKept = SomethingStays() || EntryStays();  // an entry that stays keeps its log
        if (!report_.logKept) ApplyDeferred(UninstallFile);
    }

    bool EntryStays() const {
        for (const Deferred& entry : deferred_)
            if (entry.record.kind == UninstallKey && items_[entry.item].outcome == RemovalKept) return true;
        return false;
    }

    // Folders and keys kept while something was still inside: the log held
    // its folder, and a log that also carries an earlier installation's
    // records may list a container before some of its contents. Longer paths
    // first, so that children go before their parents.
    void RetryKept() {
        std::vector<size_t> order;
        for (size_t i = 0; i < items_.size(); ++i)
            if (items_[i].outcome == RemovalKept && IsRetriedWhenKept(scope_, items_[i].record)) order.push_back(i);
        std::stable_sort(order.begin(), order.end(),
                         [this](size_t a, size_t b) { return items_[a].name.size() > items_[b].name.size(); });
        for (size_t i : order) Apply(items_[i].record, i);
    }

    void Finish() {
        for (const Item& item : items_) {
            switch (item.outcome) {
            case RemovalDone: ++report_.removed; break;
            case RemovalFailed: report_.failed.push_back(item.name); break;
            case RemovalScheduled: report_.scheduled.push_back(item.name); break;
            case RemovalInUse: report_.inUse.push_back(item.name); break;
            case RemovalKept: report_.kept.push_back(item.name); break;
            case RemovalOutside: report_.outside.push_back(item.name); break;
            case RemovalAbsent: break;
            }
        }
    }

private:
    struct Item {
        std::string name;
        UninstallLogRecord record;  // the latest one
        RemovalOutcome outcome;
    };
    struct Deferred {
        UninstallLogRecord record;
        size_t item;
    };

    size_t ItemOf(const UninstallLogRecord& record) {
        std::string identity = RecordIdentity(record);
        auto found = index_.find(identity);
        if (found == index_.end()) {
            found = index_.emplace(identity, items_.size()).first;
            items_.push_back(Item{DisplayName(record), record, RemovalAbsent});
        }
        items_[found->second].record = record;
        return found->second;
    }

    void ApplyDeferred(uint8_t kind) {
        for (const Deferred& entry : deferred_)
            if (entry.record.kind == kind) Apply(entry.record, entry.item);
    }

    void Apply(const UninstallLogRecord& record, size_t index) {
        Item& item = items_[index];
        if (record.kind == UninstallFile && item.outcome == RemovalScheduled) return;  // once is enough
        RemovalOutcome outcome = Remove(record);
        if (outcome != RemovalAbsent) item.outcome = outcome;  // gone by an earlier record: that one counts
    }

    RemovalOutcome Remove(const UninstallLogRecord& record) {
        if (record.kind == UninstallKey) return RemoveKey(record);
        bool file = record.kind == UninstallFile;
        if (!(file ? FileInScope(scope_, record.text) : FolderInScope(scope_, record.text)) ||
            target_.PassesThroughLink(record.text, TrustedPrefixLength(scope_, record.text)))
            return RemovalOutside;
        return file ? RemoveFile(record.text) : target_.RemoveFolder(record.text);
    }

    // A removal at restart goes by the path, long after this check: only
    // where no ordinary user can change a folder on the way, or a link
    // planted there in the meantime would take it somewhere else.
    RemovalOutcome RemoveFile(const char* path) {
        RemovalOutcome outcome = target_.RemoveFile(path);
        if (outcome != RemovalInUse || target_.UsersCanChangeWayTo(path)) return outcome;
        return target_.RemoveAtRestart(path);
    }

    RemovalOutcome RemoveKey(const UninstallLogRecord& record) {
        KeyPlace place = PlaceOfKey(scope_, record.rootKey, record.text);
        if (place == KeyOutside) return RemovalOutside;
        if (place == KeyExtension) return RemoveExtension(record);
        RemovalOutcome outcome = target_.RemoveKey(record.rootKey, record.text);
        if (outcome == RemovalDone && record.rootKey == kClassesRoot) report_.associationsChanged = true;
        return outcome;
    }

    // An extension that still names our type goes back to the type it named
    // before. Without a record of what came before (a log of an older
    // setup) it goes only when nothing is below it.
    RemovalOutcome RemoveExtension(const UninstallLogRecord& record) {
        std::string extension = FoldCase(std::string(record.text, record.textLength));
        if (handedBack_.count(extension)) return RemovalDone;  // a later record of the same extension
        RemovalOutcome owner = ExtensionOwner(record);
        if (owner != RemovalDone) return owner;
        auto earlier = earlierTypes_.find(extension);
        RemovalOutcome outcome = earlier == earlierTypes_.end() ? target_.RemoveKey(record.rootKey, record.text)
                                                                : HandBack(record, extension, earlier->second);
        if (outcome == RemovalDone || outcome == RemovalKept) report_.associationsChanged = true;
        return outcome;
    }

    // Its content type goes back with it, first: while the default still
    // names our type, a later record of the extension tries again after a
    // failure. One that named none goes, or, kept for another program's
    // subkeys or content type, names none again.
    RemovalOutcome HandBack(const UninstallLogRecord& record, const std::string& extension, const std::string& type) {
        RemovalOutcome outcome;
        if (!type.empty()) {
            outcome = HandBackContentType(record, extension);
            if (outcome == RemovalDone) outcome = target_.SetKeyValue(record.rootKey, record.text, "", type.c_str());
            if (outcome == RemovalDone) handedBack_.insert(extension);
            return outcome;
        }
        // A content type it had before shows that the key was there.
        outcome = HadContentType(extension) ? RemovalKept : target_.RemoveKey(record.rootKey, record.text);
        if (outcome != RemovalKept) return outcome;
        if (HandBackContentType(record, extension) == RemovalFailed ||
            target_.SetKeyValue(record.rootKey, record.text, "", nullptr) == RemovalFailed)
            return RemovalFailed;
        return RemovalKept;
    }

    bool HadContentType(const std::string& extension) const {
        auto earlier = earlierContentTypes_.find(extension);
        return earlier != earlierContentTypes_.end() && earlier->second.present;
    }

    // The earlier content type, or none, while the value still holds ours:
    // one another program has set since stays.
    RemovalOutcome HandBackContentType(const UninstallLogRecord& record, const std::string& extension) {
        auto earlier = earlierContentTypes_.find(extension);
        const char* ours = ContentTypeWritten(extension);
        if (earlier == earlierContentTypes_.end() || !ours) return RemovalDone;
        std::string now;
        KeyValueState state = target_.ReadKeyValue(record.rootKey, record.text, kContentTypeValue, now);
        if (state == KeyValueUnreadable) return RemovalFailed;  // a second run may read it
        if (state != KeyValueText || now != ours) return RemovalDone;
        const char* text = earlier->second.present ? earlier->second.text.c_str() : nullptr;
        return target_.SetKeyValue(record.rootKey, record.text, kContentTypeValue, text);
    }

    // RemovalDone when the extension still names a file type of this log;
    // otherwise another program has taken it over and it stays.
    RemovalOutcome ExtensionOwner(const UninstallLogRecord& record) {
        std::string value;
        switch (target_.ReadKeyValue(record.rootKey, record.text, "", value)) {
        case KeyValueMissingKey: return RemovalAbsent;
        case KeyValueUnreadable: return RemovalFailed;
        case KeyValueNone: return RemovalKept;
        case KeyValueText: break;
        }
        return fileTypes_.count(FoldCase(value)) ? RemovalDone : RemovalKept;
    }

    // In use or refused: a later run, after a restart or with the programs
    // closed, may succeed. An item outside the installation never will, but
    // the entry stays for it too: Windows' list must not forget files that
    // are still there.
    bool SomethingStays() const {
        for (const Item& item : items_)
            if (item.outcome == RemovalScheduled || item.outcome == RemovalInUse || item.outcome == RemovalFailed ||
                item.outcome == RemovalOutside)
                return true;
        return false;
    }

    const RemovalScope& scope_;
    RemovalTarget& target_;
    RemovalReport& report_;
    std::vector<Item> items_;
    std::map<std::string, size_t> index_;
    std::set<std::string> fileTypes_;
    struct EarlierText {
        bool present;
        std::string text;
    };
    std::map<std::string, std::string> earlierTypes_;  // extension, folded -> the type it named before
    std::map<std::string, EarlierText> earlierContentTypes_;  // extension, folded -> its content type before
    std::set<std::string> handedBack_;
    bool nameSeen_ = false;
    std::vector<Deferred> deferred_;
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

void RemoveRecordedItems(const uint8_t* image, size_t size, const RemovalScope& scope, RemovalTarget& target,
                         RemovalProgress progress, void* progressContext, RemovalReport& report) {
    size_t total = 0;
    ValidateUninstallLog(image, size, &total, nullptr);
    RemovalRun run(scope, target, report);
    UninstallLogReader reader(image, size);
    UninstallLogRecord record;
    while (reader.Next(record)) run.NoteFileType(record);
    reader = UninstallLogReader(image, size);
    for (size_t done = 0; reader.Next(record);) {
        run.Handle(record);
        if (progress) progress(progressContext, ++done, total, record.text);
    }
    run.FinishDeferred();
    run.RetryKept();
    run.Finish();
}

int RemovalExitStatus(const RemovalReport& report) {
    if (!report.failed.empty() || !report.outside.empty()) return ExitFinishedWithErrors;
    // Files in use that only a second run, once their programs are closed, removes.
    if (!report.inUse.empty()) return ExitFileInUse;
    // Only files in use remain, and Windows removes them at the next restart.
    if (!report.scheduled.empty()) return ExitRestartToFinish;
    return report.logKept ? ExitFinishedWithErrors : ExitFinished;
}

std::string RemovalSummaryText(const std::string& appName, const RemovalReport& report) {
    std::string text;
    if (RemovalExitStatus(report) == 0)
        text = appName + " was removed from your computer.";
    else
        text = "Not all of " + appName + " could be removed.";
    AppendList(text, "These items could not be removed:", report.failed);
    AppendList(text, "These files are in use.  They will be removed when you restart Windows:", report.scheduled);
    AppendList(text, "These files are in use.  Close the programs that use them, then run the uninstaller again:",
               report.inUse);
    AppendList(text,
               "These items lie outside the folders and registry keys that the installation uses.  They were not "
               "touched:",
               report.outside);
    AppendList(text, "These folders and registry keys hold other items, or now belong to another program, and were "
                     "left in place:",
               report.kept);
    if (report.logKept && report.failed.empty() && report.scheduled.empty() && report.inUse.empty())
        text += "\r\n\r\nThe uninstall information was kept, so that the application stays in the list of "
                "installed programs while these items remain.";
    else if (report.logKept)
        text += "\r\n\r\nThe uninstall information was kept.  Close the programs that use these items, or restart "
                "Windows, then run the uninstaller again to finish.";
    return text;
}
