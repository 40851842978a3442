"""The game's window as its rules give it, for every test: places in pixels
at 96 dpi, texts, colours and verdicts. Kept apart from the game's sources,
so that a test checks the game against the rules, not against itself.

usage: window.py HEADER    writes the same facts as a C++ header
"""
import json
import os
import sys

CAPTION = "Vemmo's Zorbleck!"
TITLE = "Zorbleck"  # the summary's box and every box of the program's own
RULES_TITLE = "Zorbleck!"
RULES = ("Click on the boxes as many times as you can. You have 45 seconds.",
         "Red = 1 point, Blue = 2 points, and Green = 3 points")
SELECT = "Select a Difficulty"
CLIENT = (659, 569)
# Left, top, width and height in pixels, in the order the window makes them.
CONTROLS = {"pct": (224, 216, 49, 41), "pct3": (392, 216, 49, 41), "pct2": (312, 216, 49, 41),
            "lst1": (120, 16, 105, 76), "cmdStart": (16, 40, 97, 33), "lblTimer": (608, 8, 41, 33),
            "lbl1": (16, 96, 265, 41)}
FONTS = {"lst1": 13.5, "lblTimer": 15.75, "lbl1": 12.0}  # points; the others take the window's
TAB_ORDER = ("cmdStart", "lst1", "pct2", "pct3", "pct")
BOXES = {"pct": (255, 0, 0), "pct2": (0, 0, 255), "pct3": (0, 192, 0)}
POINTS = {"pct": 1, "pct2": 3, "pct3": 4}
HOME_AFTER_GAME = {"pct": (232, 216), "pct2": (312, 216), "pct3": (392, 216)}  # red 120 twips right
FLASHES = ((255, 0, 0), (0, 0, 255), (0, 193, 0))
IDLE = (230, 230, 213)  # the window's colour after a game
DIFFICULTIES = ("Slow", "Average", "Impossible")
VERDICTS = ("Amazing!", "Great job! Almost there... ", "Good job, but you still need some practice.",
            "Completely average. Do better.", "That was pretty pathetic. Do better next time.",
            "You have to admit, you're pretty bad at this game.", "How is it possible to do that bad?")
# A total above the first threshold is the first verdict, and so on down.
THRESHOLDS = {"Slow": (400, 320, 270, 200, 100, 50), "Average": (250, 200, 150, 100, 50, 25),
              "Impossible": (150, 100, 60, 40, 20, 5)}
SUMMARY = "Red: {} points   Blue: {} points   Green: {} points   Total: {} points."
OVERFLOW = "Overflow: a score went past its limit of 32767 points. The score that overflowed keeps its last value."
TOTAL_OVERFLOW = "Overflow: the total of the scores went past 32767 points, so there is no summary and no verdict."


def verdict(difficulty, total):
    return next((text for limit, text in zip(THRESHOLDS[difficulty], VERDICTS) if total > limit), VERDICTS[-1])


def header():
    c = lambda value: (json.dumps(value) if isinstance(value, str) else
                       "{ " + ", ".join(map(c, value)) + " }" if isinstance(value, (tuple, list)) else repr(value))
    facts = [("const char*", name, value) for name, value in (("Caption", CAPTION), ("Title", TITLE),
             ("RulesTitle", RULES_TITLE), ("Select", SELECT), ("Overflow", OVERFLOW), ("TotalOverflow", TOTAL_OVERFLOW))]
    facts += [("std::array<const char*, 2>", "Rules", RULES), ("std::array<int, 2>", "Client", CLIENT),
              ("std::array<Control, 7>", "Controls", [(n, p, FONTS.get(n, 0.0)) for n, p in CONTROLS.items()]),
              ("std::array<const char*, 5>", "TabOrder", TAB_ORDER), ("std::array<Box, 3>", "Boxes",
               [(n, BOXES[n], POINTS[n], HOME_AFTER_GAME[n]) for n in BOXES]),
              ("std::array<Rgb, 3>", "Flashes", FLASHES), ("Rgb", "Idle", IDLE),
              ("std::array<const char*, 3>", "Difficulties", DIFFICULTIES),
              ("std::array<const char*, 7>", "Verdicts", VERDICTS),
              ("std::array<Thresholds, 3>", "VerdictThresholds", list(THRESHOLDS.items()))]
    return "\n".join([
        "// Made by tests/support/window.py from the rules written there.", "#pragma once", "#include <algorithm>", "#include <array>",
        "#include <cstdio>", "#include <string>", "#include <string_view>", "namespace rules {",
        "using Rgb = std::array<int, 3>;", "using Pixels = std::array<int, 4>; // left, top, width, height",
        "struct Control { const char* name; Pixels pixels; double points; }; // 0 points: the window's font",
        "struct Box { const char* name; Rgb colour; int points; std::array<int, 2> afterGame; };",
        "struct Thresholds { const char* difficulty; std::array<int, 6> above; };",
        *[f"inline constexpr {kind} {name} {{ {c(value)} }};" for kind, name, value in facts],
        "constexpr Pixels pixels(std::string_view name)", "{",
        "    return std::find_if(Controls.begin(), Controls.end(), [name](const Control& c) { return c.name == name; })",
        "        ->pixels;", "}", "inline std::string summary(int red, int blue, int green)", "{",
        "    char text[128];",
        f"    std::snprintf(text, sizeof text, {c(SUMMARY.replace('{}', '%d'))}, red, blue, green, red + blue + green);", "    return text;", "}",
        "} // namespace rules", ""])


if __name__ == "__main__":
    os.makedirs(os.path.dirname(sys.argv[1]), exist_ok=True)
    with open(sys.argv[1], "w") as out:
        out.write(header())
