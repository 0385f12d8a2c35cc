// tovalo-extract: the indexer's helper. Reads requests on standard input and
// answers each on standard output (both are one socket), until the indexer
// closes it. Whatever a damaged file does to a reader here, the indexer lives.

#include "extractprotocol.h"
#include "textextractor.h"

#include <QCoreApplication>

#include <cstdio>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// A document that wants more than this is not worth its text.
constexpr rlim_t kMaxAddressSpace = rlim_t(2) << 30;

void beQuietAndSmall()
{
    const rlimit limit{kMaxAddressSpace, kMaxAddressSpace};
    ::setrlimit(RLIMIT_AS, &limit);
    // The parent runs at idle priority already; being spawned keeps that, this makes sure of it.
    sched_param param{};
    ::sched_setscheduler(0, SCHED_IDLE, &param);
    ::setpriority(PRIO_PROCESS, 0, 19);
    constexpr int kClassIdle = 3, kClassShift = 13, kWhoProcess = 1;
    ::syscall(SYS_ioprio_set, kWhoProcess, 0, kClassIdle << kClassShift);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1) {
        // Run by hand: read the named files and print their text.
        QCoreApplication app(argc, argv);
        for (int i = 1; i < argc; ++i) {
            const QByteArray path(argv[i]);
            const qsizetype dot = path.lastIndexOf('.');
            const QString ext = dot < 0 ? QString() : QString::fromUtf8(path.mid(dot + 1)).toLower();
            const ExtractResult r = TextExtractor::extract(path, TextFamilies::of(ext), ext);
            std::printf("%s: %s\n", argv[i], r.ok ? "ok" : "unreadable");
            if (!r.cameraMake.isEmpty() || !r.cameraModel.isEmpty())
                std::printf("camera: %s %s\n", qPrintable(r.cameraMake), qPrintable(r.cameraModel));
            std::printf("%s\n", r.text.toUtf8().constData());
        }
        return 0;
    }
    beQuietAndSmall();
    while (const auto request = ExtractProtocol::readRequest(0)) {
        const ExtractResult r = TextExtractor::extract(request->path, request->family, request->lowerExt);
        if (!ExtractProtocol::writeResult(1, r))
            return 1;
    }
    return 0;
}
