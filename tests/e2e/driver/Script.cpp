#include "Script.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

class Tokenizer {
public:
    Tokenizer(const std::string& text, std::vector<Command>& commands) : text_(text), commands_(commands) {}

    bool Run(std::string& error) {
        while (at_ < text_.size()) {
            char c = text_[at_];
            if (c == '\n' || c == ';') {
                EndCommand();
                if (c == '\n') ++line_;
                ++at_;
            } else if (IsBlank(c)) {
                ++at_;
            } else if (c == '#') {
                SkipComment();
            } else if (!ReadWord(error)) {
                return false;
            }
        }
        EndCommand();
        return true;
    }

private:
    void SkipComment() {
        while (at_ < text_.size() && text_[at_] != '\n') ++at_;
    }

    bool ReadWord(std::string& error) {
        std::string word;
        while (at_ < text_.size() && !IsBlank(text_[at_]) && text_[at_] != '\n' && text_[at_] != ';') {
            if (text_[at_] != '"') {
                word += text_[at_++];
                continue;
            }
            if (!ReadQuoted(word)) {
                error = "line " + std::to_string(line_) + ": unterminated quote";
                return false;
            }
        }
        Add(word);
        return true;
    }

    // From an opening quote to its closing one; "" inside stands for one quote.
    bool ReadQuoted(std::string& word) {
        for (++at_; at_ < text_.size(); ++at_) {
            if (text_[at_] != '"') {
                word += text_[at_];
            } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
                word += '"';
                ++at_;
            } else {
                ++at_;
                return true;
            }
        }
        return false;
    }

    void Add(const std::string& word) {
        if (current_.name.empty() && current_.args.empty() && !started_) {
            current_.name = word;
            current_.line = line_;
            started_ = true;
        } else {
            current_.args.push_back(word);
        }
    }

    void EndCommand() {
        if (started_) commands_.push_back(current_);
        current_ = Command();
        started_ = false;
    }

    const std::string& text_;
    std::vector<Command>& commands_;
    Command current_;
    bool started_ = false;
    size_t at_ = 0;
    int line_ = 1;
};

}  // namespace

bool ParseScript(const std::string& text, std::vector<Command>& commands, std::string& error) {
    Tokenizer tokenizer(text, commands);
    return tokenizer.Run(error);
}
