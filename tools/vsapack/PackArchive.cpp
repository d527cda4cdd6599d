#include "PackArchive.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "archive/ArchiveWriter.h"

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool AddFile(ArchiveWriter& writer, const PackEntry& entry, std::string* error) {
    std::error_code code;
    uintmax_t size = fs::file_size(entry.source, code);
    if (code || size > 0xFFFFFFFFu) {
        *error = entry.source + ": " + (code ? code.message() : std::string("larger than 4 GB"));
        return false;
    }
    File in(std::fopen(entry.source.c_str(), "rb"));
    if (!in) {
        *error = "cannot open " + entry.source;
        return false;
    }
    if (!writer.BeginMember(entry.name.c_str(), static_cast<uint32_t>(size))) return false;
    std::vector<char> buffer(1 << 16);
    for (uintmax_t left = size; left;) {
        size_t want = left < buffer.size() ? static_cast<size_t>(left) : buffer.size();
        if (std::fread(buffer.data(), 1, want, in.get()) != want) {
            *error = "cannot read " + entry.source;
            return false;
        }
        if (!writer.WriteData(buffer.data(), want)) return false;
        left -= want;
    }
    return writer.EndMember();
}

bool WriteAll(std::FILE* out, const std::vector<PackEntry>& entries, std::string* error) {
    FileSink sink(out);
    ArchiveWriter writer(sink);
    bool ok = writer.Begin();
    for (size_t i = 0; ok && i < entries.size(); ++i) ok = AddFile(writer, entries[i], error);
    ok = ok && writer.Finish();
    if (!ok && error->empty()) *error = writer.Error();
    return ok && std::fflush(out) == 0;
}

}  // namespace

bool PackArchive(const std::string& output, const std::string& host, const std::vector<PackEntry>& entries,
                 std::string* error) {
    std::error_code code;
    if (!host.empty() && !fs::copy_file(host, output, fs::copy_options::overwrite_existing, code)) {
        *error = "cannot copy " + host + " to " + output + ": " + code.message();
        return false;
    }
    bool ok;
    {
        File out(std::fopen(output.c_str(), host.empty() ? "wb" : "r+b"));
        if (!out) {
            *error = "cannot write " + output;
            return false;
        }
        ok = WriteAll(out.get(), entries, error);
        ok = (std::fclose(out.release()) == 0) && ok;
    }
    if (!ok) fs::remove(output, code);
    if (!ok && error->empty()) *error = "cannot write " + output;
    return ok;
}
