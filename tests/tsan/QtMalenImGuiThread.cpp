// Linked into every test, the program and the stand-in only in the race-check build (KELVOR_TSAN).
//
// Qt GUI 6.4 splits large fills, blends and image conversions into pieces for
// QThreadPool::globalInstance() and waits for them on a QSemaphore; Debian's Qt is not built
// with the sanitizer, so it cannot see that wait and reports every such piece as a race. Qt has
// no setting for this (QT_NO_GUI_THREADPOOL came later), so here the pool runs the pieces of
// Qt GUI's own splitting at once on the calling thread: the pixels are the same, no worker
// thread starts. Every other caller (our code included) gets the real pool.
#include <QThreadPool>

#include <cstring>
#include <dlfcn.h>

namespace {
bool ausQtGui(const void *rueck)
{
    Dl_info info;
    return dladdr(rueck, &info) && info.dli_fname && std::strstr(info.dli_fname, "libQt6Gui.so");
}
} // namespace

void QThreadPool::start(std::function<void()> functionToRun, int priority)
{
    if (ausQtGui(__builtin_return_address(0))) {
        functionToRun();
        return;
    }
    using Echt = void (*)(QThreadPool *, std::function<void()>, int);
    static const auto echt = reinterpret_cast<Echt>(dlsym(RTLD_NEXT, "_ZN11QThreadPool5startESt8functionIFvvEEi"));
    echt(this, std::move(functionToRun), priority);
}
