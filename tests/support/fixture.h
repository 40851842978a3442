#pragma once

#include "support/fake_runtime.h"
#include "support/probe.h"

#include <QTest>

#include <memory>

// A fresh scripted runtime and a fresh window for every test function.
struct WindowFixture {
    FakeRuntime runtime;
    std::unique_ptr<Zorbleck> window;

    ZorbleckProbe probe() const { return { *window }; }

    void makeWindow()
    {
        window.reset();
        runtime = FakeRuntime();
        window = std::make_unique<Zorbleck>(runtime);
    }

    // Shows the window and waits until it is on screen with the focus.
    [[nodiscard]] bool showWindow()
    {
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
};
