#include "platform/prompts.h"

#include "platform/sjis.h"

namespace tavola {

void ScriptedPrompts::message(const std::string& text) { shown.push_back({Kind::Message, text}); }

void ScriptedPrompts::error(const std::string& text) { shown.push_back({Kind::Error, text}); }

namespace {

// The next scripted reply, or the fallback (noted as unexpected) when the script has run out.
template <class T>
T nextReply(std::deque<T>& queue, T fallback, int& unexpected)
{
    if (queue.empty()) {
        ++unexpected;
        return fallback;
    }
    T reply = std::move(queue.front());
    queue.pop_front();
    return reply;
}

} // namespace

Answer ScriptedPrompts::confirm(const std::string& text)
{
    shown.push_back({Kind::Confirm, text});
    return nextReply(answers, Answer::No, unexpected);
}

Answer ScriptedPrompts::confirmWithCancel(const std::string& text)
{
    shown.push_back({Kind::ConfirmWithCancel, text});
    return nextReply(answers, Answer::Cancel, unexpected);
}

std::optional<std::string> ScriptedPrompts::saveFileName(const FileDialogRequest& request)
{
    shown.push_back({Kind::SaveFile, request.title});
    fileRequests.push_back(request);
    return nextReply(fileNames, std::optional<std::string>(), unexpected);
}

std::optional<std::string> ScriptedPrompts::openFileName(const FileDialogRequest& request)
{
    shown.push_back({Kind::OpenFile, request.title});
    fileRequests.push_back(request);
    return nextReply(fileNames, std::optional<std::string>(), unexpected);
}

std::vector<std::string> ScriptedPrompts::shownUtf8() const
{
    std::vector<std::string> out;
    for (const auto& s : shown) out.push_back(sjis::toUtf8(s.text));
    return out;
}

std::string ScriptedPrompts::lastUtf8() const { return shown.empty() ? std::string() : sjis::toUtf8(shown.back().text); }

} // namespace tavola
