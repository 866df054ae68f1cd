// SPDX-License-Identifier: GPL-3.0-or-later
// Makes the Greek reader's model when the program is built:
//   bivano-make-model el_GR.dic american-english COUNTS-FOLDER greek.model [EVERYDAY-LIST...]
// COUNTS-FOLDER holds the program's word counts (data/greek-counts/); the
// everyday lists (data/greek-everyday/) weigh words by how common they are
// in everyday Greek, and without them the model has the technical counts.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "io/greek_model_file.h"
#include "io/safe_file.h"

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(
            stderr,
            "usage: %s HUNSPELL.dic ENGLISH-WORDS COUNTS-FOLDER OUTPUT [EVERYDAY-LIST...]\n",
            argv[0]);
        return 2;
    }
    const std::vector<std::string> everyday(argv + 5, argv + argc);
    std::string unreadable;
    const std::vector<std::byte> model =
        bivano::io::BuildGreekModel(argv[1], argv[2], argv[3], nullptr, everyday, &unreadable);
    if (model.empty()) {
        if (!unreadable.empty() && unreadable != argv[1]) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], unreadable.c_str());
        } else {
            std::fprintf(stderr, "%s: %s is no Greek word list that can be read\n", argv[0],
                         argv[1]);
        }
        return 1;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(model.data()), model.size());
    if (const bivano::Status written = bivano::io::WriteFileSafely(argv[4], bytes); !written) {
        std::fprintf(stderr, "%s: cannot write %s (error %d)\n", argv[0], argv[4],
                     written.failure().system_error);
        return 1;
    }
    return 0;
}
