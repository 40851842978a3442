#include "qt/fatal.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace qtui {

namespace {

    struct HeldMessage {
        QtMsgType type;
        QByteArray category;
        QString text;
    };

    // Qt's X11 connection reports from a thread of its own, so the handler
    // may run on two threads at once.
    std::mutex heldLock;
    bool starting = false;
    std::vector<HeldMessage> held;
    QtMessageHandler qtHandler = nullptr;

    // The platforms Qt tries, in its order: those the user named, else
    // Wayland and then X11 in a Wayland session, else X11.
    QList<QByteArray> platformsTried()
    {
        const QByteArray named = qgetenv("QT_QPA_PLATFORM");
        if (!named.isEmpty())
            return named.split(';');
        if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland")
            return { "wayland", "xcb" };
        return { "xcb" };
    }

    QByteArray missingDisplay()
    {
        const QByteArray x11 = qgetenv("DISPLAY");
        const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
        if (qgetenv("QT_QPA_PLATFORM").isEmpty() && x11.isEmpty() && wayland.isEmpty())
            return "needs a graphical desktop session and found no DISPLAY or WAYLAND_DISPLAY";
        QByteArray found;
        for (const QByteArray& entry : platformsTried()) {
            const QByteArray platform = entry.split(':').constFirst(); // without its options
            QByteArray what;
            if (platform == "xcb")
                what = x11.isEmpty() ? "no DISPLAY" : "no X server at DISPLAY=" + x11;
            else if (platform.startsWith("wayland")) // a client without WAYLAND_DISPLAY looks for wayland-0
                what = "no Wayland compositor at " + (wayland.isEmpty() ? "wayland-0" : "WAYLAND_DISPLAY=" + wayland);
            else
                what = "no working \"" + platform + "\" platform";
            if (!found.contains(what))
                found += (found.isEmpty() ? "" : " and ") + what;
        }
        return "needs a graphical desktop session and found " + found;
    }

    QByteArray firstLine(const QString& text)
    {
        const QString line = text.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
        return line.isEmpty() ? "stopped by a fatal error" : line.toUtf8();
    }

    [[noreturn]] void endPlainly(const QString& text)
    {
        QByteArray line;
        {
            const std::lock_guard lock(heldLock);
            if (starting && text.contains(QLatin1String("platform plugin"))) {
                line = missingDisplay();
                // No such plugin at all is a different fault from no display.
                for (const HeldMessage& message : held) {
                    if (message.text.startsWith(QLatin1String("Could not find the Qt platform plugin")))
                        line = firstLine(message.text);
                }
            } else {
                line = firstLine(text);
            }
        }
        line = "zorbleck: " + line + "\n";
        std::fputs(line.constData(), stderr);
        // Not exit(): static destructors would run under the live window.
        std::_Exit(1);
    }

    // Qt's words when the display goes away mid-game, before it calls exit()
    // itself.
    bool displayLost(const QString& text)
    {
        return text.startsWith(QLatin1String("The X11 connection broke"))
            || text.startsWith(QLatin1String("The Wayland connection"));
    }

    void handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtFatalMsg || displayLost(text))
            endPlainly(text);
        {
            const std::lock_guard lock(heldLock);
            if (starting) {
                held.push_back({ type, context.category, text });
                return;
            }
        }
        qtHandler(type, context, text);
    }

} // namespace

void reportFatalErrorsPlainly()
{
    const std::lock_guard lock(heldLock);
    starting = true;
    qtHandler = qInstallMessageHandler(handle);
}

void displayOpened()
{
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard lock(heldLock);
        starting = false;
        messages.swap(held);
    }
    for (const HeldMessage& message : messages) {
        const char* category = message.category.isNull() ? nullptr : message.category.constData();
        qtHandler(message.type, QMessageLogContext(nullptr, 0, nullptr, category), message.text);
    }
}

} // namespace qtui
