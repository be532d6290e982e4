// The file manager's dialog services as the tests stand in for them. A form
// is read from its form text (each object's name and class, a radio group's
// choice, a button's Default and Cancel), "shown" by sending the form's event
// procedure what the real host sends, and then worked by a script of user
// actions. Everything the module did to it is recorded.
// The services are plain functions, so the fake is one per process.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "plugin/wcx_api.h"

namespace fake_host {

struct Step {
    enum Kind {
        kChoose,       // an arrow key or a click chooses item index of the radio group
        kClick,        // a click on the button
        kEnter,        // Enter: clicks the Default button
        kEscape,       // Escape: clicks the Cancel button
        kCloseWindow,  // the window's close box: the form closes, no event
    };
    Kind kind;
    std::string control;
    intptr_t index = 0;
};

struct Seen {
    int formsShown = 0;
    std::string formText;                          // of the last form
    std::map<std::string, intptr_t> choicesShown;  // each radio group's choice once the form was up
    intptr_t closedWith = 0;            // the modal result the module closed it with, or 0
    std::vector<std::string> problems;  // calls the real host would not take, or off its GUI thread
    std::vector<std::string> messageBoxes;  // "caption|text|flags"
};

// Starts afresh: the user will take these steps; message boxes answer answer.
void Expect(std::vector<Step> steps, int messageBoxAnswer = 1);

// The forms never show: showing one returns at once, as a host without a
// display might.
void NeverShow();

// The next form is held back before it shows, as an error box over it would
// hold it, until ShowHeld.
void HoldShowing();
void ShowHeld();

const Seen& seen();

// The services, as a host hands them over: a record of the file manager's
// size and layout.
tExtensionStartupInfo& StartupInfo();

}  // namespace fake_host
