#include "shell/UninstallLogDecoding.h"

#include "setup/TextDecoding.h"
#include "shell/UninstallLogReader.h"
#include "shell/UninstallRecord.h"

namespace {

StoredEncoding JudgeLog(const std::vector<uint8_t>& image) {
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    while (reader.Next(record)) {
        if (!IsValidUtf8(record.text, record.textLength)) return StoredEncoding::SystemAnsi;
    }
    return StoredEncoding::Utf8;
}

void AppendRecord(const UninstallLogRecord& record, const std::string& text, std::vector<uint8_t>* out) {
    bool key = record.kind == UninstallKey;
    size_t at = out->size();
    out->resize(at + (key ? KeyRecordLength(text.size()) : TextRecordLength(text.size())));
    if (key) {
        EncodeKeyRecord(out->data() + at, record.rootKey, text.data(), text.size());
    } else {
        EncodeTextRecord(out->data() + at, record.kind, text.data(), text.size());
    }
}

}  // namespace

bool DecodeUninstallLog(const std::vector<uint8_t>& image, std::vector<uint8_t>* decoded, std::string* refused) {
    StoredEncoding encoding = JudgeLog(image);
    UninstallLogReader reader(image.data(), image.size());
    UninstallLogRecord record;
    std::vector<uint8_t> out;
    out.reserve(image.size());
    while (reader.Next(record)) {
        std::string text;
        if (!DecodeStoredText(record.text, record.textLength, encoding, &text)) {
            *refused = DescribeUtf8Name(record.text, record.textLength);
            return false;
        }
        AppendRecord(record, text, &out);
    }
    decoded->swap(out);
    return true;
}
