// Command ids of the notes window's menu entries.
#pragma once

namespace notes {

enum MenuId : int {
    mnuFile = 100,
    mnuFileSave,
    mnuFilePrint,
    mnuFileExit,
    mnuFileExitNoSave,
    mnuEdit = 200,
    mnuEditUndo,
    mnuEditBar1,
    mnuEditCut,
    mnuEditCopy,
    mnuEditPaste,
    mnuEditBar2,
    mnuEditClear,
    mnuGo = 300,
    mnuGoOne,  // mnuGoOne + i is the Go entry of page index i
    mnuGoTwo,
    mnuGoThree,
    mnuGoFour,
    mnuGoFive,
    mnuGoSix,
    mnuGoSeven,
    mnuGoEight,
    mnuGoNine,
    mnuGoTen,
    mnuHelp = 400,
    mnuHelpContents,
    mnuHelpSearch,
    mnuHelpAbout,
    mnuPrev = 500,
    mnuNext,
};

}  // namespace notes
