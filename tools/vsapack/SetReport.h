#pragma once
// What `vsapack check` finds in an installation set, one line each:
// "FILE:LINE: error: TEXT", or without ":LINE" where no line is meant.
#include <cstddef>
#include <string>
#include <vector>

class SetReport {
public:
    void Error(const std::string& file, size_t line, const std::string& text) { Add(file, line, true, text); }
    void Warning(const std::string& file, size_t line, const std::string& text) { Add(file, line, false, text); }

    size_t Errors() const { return errors_; }
    const std::vector<std::string>& Lines() const { return lines_; }
    // "N errors, M warnings".
    std::string Summary() const;

private:
    void Add(const std::string& file, size_t line, bool error, const std::string& text);

    std::vector<std::string> lines_;
    size_t errors_ = 0;
};
