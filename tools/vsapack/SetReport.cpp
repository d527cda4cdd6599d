#include "SetReport.h"

namespace {

std::string Count(size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

void SetReport::Add(const std::string& file, size_t line, bool error, const std::string& text) {
    std::string where = line ? file + ":" + std::to_string(line) : file;
    lines_.push_back(where + (error ? ": error: " : ": warning: ") + text);
    if (error) ++errors_;
}

std::string SetReport::Summary() const {
    return Count(errors_, "error") + ", " + Count(lines_.size() - errors_, "warning");
}
