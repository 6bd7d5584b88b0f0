#include "platform/prompts.h"

#include "platform/sjis.h"

namespace tavola {

void ScriptedPrompts::message(const std::string& text) { shown.push_back({Kind::Message, text}); }

void ScriptedPrompts::error(const std::string& text) { shown.push_back({Kind::Error, text}); }

Answer ScriptedPrompts::confirm(const std::string& text)
{
    shown.push_back({Kind::Confirm, text});
    if (answers.empty()) {
        ++unexpected;
        return Answer::No;
    }
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

Answer ScriptedPrompts::confirmWithCancel(const std::string& text)
{
    shown.push_back({Kind::ConfirmWithCancel, text});
    if (answers.empty()) {
        ++unexpected;
        return Answer::Cancel;
    }
    Answer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompts::saveFileName(const FileDialogRequest& request)
{
    shown.push_back({Kind::SaveFile, request.title});
    fileRequests.push_back(request);
    if (fileNames.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    auto name = fileNames.front();
    fileNames.pop_front();
    return name;
}

std::optional<std::string> ScriptedPrompts::openFileName(const FileDialogRequest& request)
{
    shown.push_back({Kind::OpenFile, request.title});
    fileRequests.push_back(request);
    if (fileNames.empty()) {
        ++unexpected;
        return std::nullopt;
    }
    auto name = fileNames.front();
    fileNames.pop_front();
    return name;
}

std::vector<std::string> ScriptedPrompts::shownUtf8() const
{
    std::vector<std::string> out;
    for (const auto& s : shown) out.push_back(sjis::toUtf8(s.text));
    return out;
}

std::string ScriptedPrompts::lastUtf8() const { return shown.empty() ? std::string() : sjis::toUtf8(shown.back().text); }

} // namespace tavola
