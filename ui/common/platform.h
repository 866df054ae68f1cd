// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "clock.h"
#include "file_dialog.h"
#include "io/greek_model_file.h"
#include "message_box.h"

namespace bivano::ui {

// Where the windows meet the platform's time, file dialog and message box:
// the program passes the real ones, tests their doubles. Owned by the
// caller, and alive as long as the windows.
struct Platform {
    const Clock& clock;
    FileDialogBackend& file_dialog;
    MessageBox& message_box;
    // The Greek reader's model behind "Με τόνους και ορθογραφία"; or, when
    // set, a hunspell word list read in its place.
    std::string greek_model = io::DefaultGreekModelPath();
    std::string greek_dictionary = {};
};

// The real platform, for main().
class SystemPlatform {
  public:
    Platform Seams() { return {clock_, file_dialog_, message_box_}; }

  private:
    SystemClock clock_;
    QtFileDialogBackend file_dialog_;
    QtMessageBox message_box_;
};

}  // namespace bivano::ui
