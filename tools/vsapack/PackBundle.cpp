#include "PackBundle.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "CheckSet.h"
#include "PackInput.h"
#include "archive/ArchiveFormat.h"
#include "archive/BundleDirectory.h"
#include "archive/BundleMark.h"
#include "archive/BundleWriter.h"
#include "archive/Crc32.h"
#include "archive/FileArchiveSource.h"
#include "archive/PeImage.h"

namespace fs = std::filesystem;

namespace {

struct SetFile {
    std::string name;  // relative, backslash-separated
    fs::path path;
    uint32_t size = 0;
    uint32_t crc = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Every file under the folder but the output itself, sorted by name.
bool CollectSetFiles(const std::string& folder, const std::string& output, std::vector<SetFile>* files,
                     std::string* error) {
    std::vector<PackEntry> entries;
    if (!CollectFolder(folder, &entries, error)) return false;
    for (const PackEntry& entry : entries) {
        std::error_code absent;  // the output need not exist yet
        if (!fs::equivalent(entry.source, output, absent)) files->push_back({entry.name, entry.source});
    }
    return true;
}

// What the setup could not use, `vsapack check`'s errors first.
bool CheckSetForBundle(const std::string& folder, const std::vector<SetFile>& files, SetReport& report,
                       std::string* error) {
    CheckSet(folder, report);
    if (report.Errors()) {
        *error = "the set has " + report.Summary() + " (above): nothing was bundled";
        return false;
    }
    auto has = [&](const char* name) {
        return std::any_of(files.begin(), files.end(), [&](const SetFile& f) { return SameBundleName(f.name.c_str(), name); });
    };
    for (const char* required : {"setup.exe", "insfiles.vsa"}) {
        if (!has(required)) {
            *error = std::string("the set has no ") + required;
            return false;
        }
    }
    if (files.size() - 1 > kMaxBundleEntries) {
        *error = "more than " + std::to_string(kMaxBundleEntries) + " files besides setup.exe";
        return false;
    }
    for (size_t i = 0; i < files.size(); ++i) {
        if (files[i].name.size() > kMaxBundleNameLength) {
            *error = "name longer than " + std::to_string(kMaxBundleNameLength) + " characters: " + files[i].name;
            return false;
        }
        for (size_t j = i + 1; j < files.size(); ++j) {
            if (SameBundleName(files[i].name.c_str(), files[j].name.c_str())) {
                *error = "two files whose names Windows takes for one: " + files[i].name + ", " + files[j].name;
                return false;
            }
        }
    }
    return true;
}

// The program must end where its last section does: a signature, symbols or
// appended data there would lie between the image and the bundle.
bool CheckHost(const SetFile& host, std::string* error) {
    FileArchiveSource source;
    uint32_t size = 0, imageEnd = 0;
    if (!source.Open(host.path.string().c_str()) || !source.Size(&size) || !FindPeImageEnd(source, size, &imageEnd)) {
        *error = host.path.string() + " is not a complete Windows program";
        return false;
    }
    uint8_t dosHeader[kBundleMarkEnd];
    if (!source.Seek(0) || !source.ReadFully(dosHeader, sizeof dosHeader) || !HasRoomForBundleMark(dosHeader)) {
        *error = host.path.string() + " uses the reserved words of its DOS header, where the bundle's mark goes";
        return false;
    }
    if (imageEnd != size) {
        *error = host.path.string() + " has " + std::to_string(size - imageEnd) +
                 " bytes after its last section (a signature, symbols, an appended archive or bundle): bundle the "
                 "stripped, unsigned setup.exe";
        return false;
    }
    return true;
}

// Calls `take` for each block of the file; the file's size and CRC-32 as read.
bool ReadBlocks(const fs::path& path, uint64_t* size, uint32_t* crc, std::string* error,
                const std::function<bool(const char*, size_t)>& take = nullptr) {
    File in(std::fopen(path.string().c_str(), "rb"));
    if (!in) {
        *error = "cannot open " + path.string();
        return false;
    }
    std::vector<char> buffer(1 << 20);
    *size = 0;
    *crc = 0;
    for (size_t got; (got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0;) {
        *size += got;
        *crc = UpdateCrc32(*crc, reinterpret_cast<const uint8_t*>(buffer.data()), got);
        if (take && !take(buffer.data(), got)) {
            *error = "cannot write the output";
            return false;
        }
    }
    if (std::ferror(in.get())) *error = "cannot read " + path.string();
    return !std::ferror(in.get());
}

// Sizes and CRC-32s; the whole output must stay within reach of the setup's
// signed 32-bit file positions.
bool MeasureFiles(std::vector<SetFile>& files, std::string* error) {
    uint64_t total = kBundleHeaderSize;
    for (SetFile& file : files) {
        uint64_t size = 0;
        if (!ReadBlocks(file.path, &size, &file.crc, error)) return false;
        total += size + kBundleEntryFixedSize + file.name.size();
        if (total > kMaxBundledFileSize) {
            *error = "the bundled setup.exe would reach 2 GB";
            return false;
        }
        file.size = static_cast<uint32_t>(size);
    }
    return true;
}

// Copies the file again, checking that it did not change since it was measured.
// With a mark, the program's copy carries it: the file's first block holds
// the DOS header (CheckHost made sure of it).
bool CopyInto(std::FILE* out, const SetFile& file, std::string* error, const uint32_t* markCrc = nullptr) {
    uint64_t size = 0;
    uint32_t crc = 0;
    bool first = true;
    auto write = [&](const char* data, size_t length) {
        std::vector<char> block;
        if (first && markCrc && length >= kBundleMarkEnd) {
            block.assign(data, data + length);
            WriteBundleMark(reinterpret_cast<uint8_t*>(block.data()), *markCrc);
            data = block.data();
        }
        first = false;
        return std::fwrite(data, 1, length, out) == length;
    };
    if (!ReadBlocks(file.path, &size, &crc, error, write)) return false;
    if (size != file.size || crc != file.crc) {
        *error = file.path.string() + " changed while it was being packed";
        return false;
    }
    return true;
}

bool WriteBundle(const std::string& output, const SetFile& host, const std::vector<SetFile>& files,
                 std::string* error) {
    std::vector<BundleFile> directory;
    for (const SetFile& file : files) directory.push_back({file.name, file.size, file.crc});
    std::vector<uint8_t> header = EncodeBundleDirectory(directory);
    File out(std::fopen(output.c_str(), "wb"));
    if (!out) {
        *error = "cannot write " + output;
        return false;
    }
    uint32_t directoryCrc = ReadLe32(header.data() + kBundleSignatureSize + 8);
    bool ok = CopyInto(out.get(), host, error, &directoryCrc) && std::fwrite(header.data(), 1, header.size(), out.get()) == header.size();
    for (size_t i = 0; ok && i < files.size(); ++i) ok = CopyInto(out.get(), files[i], error);
    ok = std::fclose(out.release()) == 0 && ok;
    if (!ok && error->empty()) *error = "cannot write " + output;
    return ok;
}

}  // namespace

bool PackBundle(const std::string& setFolder, const std::string& output, SetReport& report, std::string* summary,
                std::string* error) {
    std::vector<SetFile> files;
    if (!CollectSetFiles(setFolder, output, &files, error) || !CheckSetForBundle(setFolder, files, report, error))
        return false;
    if (!MeasureFiles(files, error)) return false;  // setup.exe included: the limit is the whole output's
    auto host = std::find_if(files.begin(), files.end(), [](const SetFile& f) { return SameBundleName(f.name.c_str(), "setup.exe"); });
    SetFile program = *host;
    files.erase(host);
    if (!CheckHost(program, error)) return false;
    if (!WriteBundle(output, program, files, error)) {
        std::error_code code;
        fs::remove(output, code);
        return false;
    }
    *summary = output + ": setup.exe and " + std::to_string(files.size()) + " files:";
    for (const SetFile& file : files) *summary += " " + file.name;
    return true;
}
