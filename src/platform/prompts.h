#pragma once
// Every message box, question and file dialog goes through Prompts. Texts are CP932 bytes, as the system's
// messages are built. The window floor has a Qt implementation; tests use ScriptedPrompts, which records what
// was shown and answers from a script.
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tavola {

enum class Answer { Yes, No, Cancel };

struct FileDialogRequest {
    std::string title;        // caption, CP932
    std::string filter;       // e.g. "*.prp"
    std::string startFolder;  // system path
    std::string suggestedName;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // A message box with OK.
    virtual void message(const std::string& text) = 0;
    // The platform's standard error box (an error the program does not check itself).
    virtual void error(const std::string& text) = 0;
    // Yes / No → Answer::Yes or Answer::No.
    virtual Answer confirm(const std::string& text) = 0;
    // Yes / No / Cancel.
    virtual Answer confirmWithCancel(const std::string& text) = 0;
    // File dialogs: the chosen system path, or nullopt when cancelled.
    virtual std::optional<std::string> saveFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> openFileName(const FileDialogRequest& request) = 0;
};

// Records every box shown and answers questions and dialogs from queues. A question with no answer queued is
// answered No (or Cancel, or a cancelled dialog) and noted in unexpected, so a test can fail on it.
class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Error, Confirm, ConfirmWithCancel, SaveFile, OpenFile };
    struct Shown {
        Kind kind;
        std::string text; // CP932
    };

    void message(const std::string& text) override;
    void error(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    Answer confirmWithCancel(const std::string& text) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;

    void queueAnswer(Answer a) { answers.push_back(a); }
    void queueFileName(std::optional<std::string> name) { fileNames.push_back(std::move(name)); }

    // The texts shown, in UTF-8, for readable assertions.
    std::vector<std::string> shownUtf8() const;
    std::string lastUtf8() const;
    void clear() { shown.clear(); }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> fileNames;
    std::vector<FileDialogRequest> fileRequests;
    int unexpected = 0;
};

} // namespace tavola
