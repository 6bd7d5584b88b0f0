// tavola-cli serve [DIR] [--port N] [--lesson N] [--bind ADDR]: serves one lesson of a courseware to the tablets
// of a class until it is stopped (Ctrl+C). Pupils open the address printed in a browser.
#include "app/learner_files.h"
#include "platform/numbers.h"
#include "server/http_server.h"
#include "server/qt_measure_canvas.h"
#include "tools/cli_commands.h"
#include "tools/qt_cli_gui.h"

#include <csignal>
#include <cstdio>
#include <iostream>

namespace tavola::cli {
namespace {

const char* const kUsageText = "usage: tavola-cli serve [DIR] [--port N] [--lesson N] [--bind ADDR]";

int usageError()
{
    printError(kUsageText);
    return kUsage;
}

} // namespace

int runServe(const Args& args)
{
    std::string dirArg;
    int port = 8080;
    int lesson = 1;
    std::string bindAddress = "0.0.0.0";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--port" || a == "--lesson" || a == "--bind") {
            if (i + 1 >= args.size()) return usageError();
            const std::string& value = args[++i];
            if (a == "--bind") {
                bindAddress = value;
                continue;
            }
            auto n = parseInteger(value);
            if (!n) return usageError();
            if (a == "--port") {
                if (*n < 0 || *n > 65535) return usageError();
                port = *n;
            } else {
                if (*n < 1) return usageError();
                lesson = *n;
            }
        } else if (a.starts_with("--") || !dirArg.empty()) {
            return usageError();
        } else {
            dirArg = a;
        }
    }
    auto dir = namedCoursewareDir(dirArg);
    if (!dir) return kFailed;
    auto app = startGui();

    ClassroomOptions options;
    options.places = learnerPlaces(learnerFilesState(*dir));
    options.lesson = lesson;
    Classroom room(options, qtMeasureCanvases());
    if (Status loaded = room.load(); !loaded) {
        printSystemMessage(loaded.message());
        return kFailed;
    }
    // Ctrl+C and kill end the server cleanly: the signals are waited for, not handled.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ClassroomServer server(room);
    if (Status bound = server.bind(bindAddress, port); !bound) {
        printSystemMessage(bound.message());
        return kFailed;
    }
    server.start();
    std::cout << "lesson " << lesson << ": " << utf8(room.lessonName()) << '\n';
    std::cout << "serving on " << serverUrl(server.address(), server.port()) << '\n';
    if (bindAddress == "0.0.0.0") {
        for (const std::string& ip : localAddresses())
            std::cout << "pupils open " << serverUrl(ip, server.port()) << '\n';
    }
    std::cout << "stop with Ctrl+C" << std::endl;
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.stop();
    return kOk;
}

} // namespace tavola::cli
