#pragma once

#include "game/layout.h"
#include "game/platform.h"
#include "game/random_source.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Time, chance, message boxes and pumping as the test scripts them: the
// clock moves only when the test says so, random numbers come from a list,
// and message boxes are recorded and answered at once.
struct ScriptedRuntime {
    struct Box {
        std::string prompt;
        std::string title;
    };

    double now = 0;
    double readStep = 0; // added after every clock reading
    double pumpStep = 0; // added by every pumping

    std::deque<float> randoms; // handed out first, in order
    int draws = 0;
    int seeds = 0;

    std::vector<Box> boxes;
    std::function<void(const Box&)> onMessageBox;

    int pumps = 0;
    std::function<void(int pump)> onPump;

    double read()
    {
        const double reading = now;
        now += readStep;
        return reading;
    }
    float draw()
    {
        ++draws;
        if (randoms.empty())
            return 0.5f; // the middle of the range, once the script runs out
        const float r = randoms.front();
        randoms.pop_front();
        return r;
    }
    void showBox(const std::string& prompt, const std::string& title)
    {
        boxes.push_back({ prompt, title });
        if (onMessageBox)
            onMessageBox(boxes.back());
    }
    void pump()
    {
        ++pumps;
        if (onPump)
            onPump(pumps);
        now += pumpStep;
    }

    std::vector<std::string> prompts() const
    {
        std::vector<std::string> list(boxes.size());
        std::transform(boxes.begin(), boxes.end(), list.begin(), [](const Box& box) { return box.prompt; });
        return list;
    }
};

// A whole platform the test scripts: the controls are plain records and the
// window's outer size is set by the test.
struct ScriptedPlatform final : game::Platform, ScriptedRuntime {
    struct ScriptedControl {
        float left;
        float top;
        float width;
        float height;
        bool visible = true;
        std::string caption;
    };

    std::array<ScriptedControl, 7> controls = [] {
        std::array<ScriptedControl, 7> all {};
        for (const auto& c : game::layout::Controls)
            all.at(static_cast<std::size_t>(c.control))
                = { float(c.left), float(c.top), float(c.width), float(c.height), true, {} };
        return all;
    }();
    std::string selected; // the list's selected entry
    std::optional<game::Color> background; // the platform's own until set
    // The frame of the layout: 60 twips each side and below, 450 above.
    float outerW = game::layout::ClientWidth + 120;
    float outerH = game::layout::ClientHeight + 510;
    std::function<void()> onOuterSize; // the game looks at the window's size

    ScriptedControl& at(game::Control c) { return controls.at(static_cast<std::size_t>(c)); }

    float outerWidth() override { return looked(outerW); }
    float outerHeight() override { return looked(outerH); }
    void setBackColor(game::Color color) override { background = color; }
    float top(game::Control c) override { return at(c).top; }
    float left(game::Control c) override { return at(c).left; }
    float width(game::Control c) override { return at(c).width; }
    float height(game::Control c) override { return at(c).height; }
    void setTop(game::Control c, float twips) override { at(c).top = twips; }
    void setLeft(game::Control c, float twips) override { at(c).left = twips; }
    bool visible(game::Control c) override { return at(c).visible; }
    void setVisible(game::Control c, bool visible) override { at(c).visible = visible; }
    void setCaption(game::Control c, const std::string& text) override { at(c).caption = text; }
    std::string text(game::Control c) override { return c == game::Control::lst1 ? selected : at(c).caption; }

    double clock() override { return read(); }
    void messageBox(const std::string& prompt, const std::string& title) override { showBox(prompt, title); }
    void pumpEvents() override { pump(); }

private:
    float looked(float size) const
    {
        if (onOuterSize)
            onOuterSize();
        return size;
    }
};

// The game's random source, drawing from the script instead.
struct ScriptedRandom final : game::RandomSource {
    ScriptedRuntime& runtime;
    explicit ScriptedRandom(ScriptedRuntime& script)
        : runtime(script)
    {
    }
    void seedFromClock() override { ++runtime.seeds; }
    float next() override { return runtime.draw(); }
};
