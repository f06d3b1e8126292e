#pragma once

// Which part of the program the frame loop runs: the main menu, the game, or neither, when
// the program ends. The menu's and the game's updates return the state that comes next.
enum EProgramState : int {
    PROGRAM_END = -1,
    PROGRAM_MENU = 0,
    PROGRAM_GAME = 1,
};
