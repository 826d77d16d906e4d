// vorlax-tour PROGRAM_FOLDER OUT_FOLDER: walks every screen of the game on
// the data set in PROGRAM_FOLDER and writes a picture of each to OUT_FOLDER
// as NN-SCREEN.png, landscape as the player sees it, and the states it went
// through to OUT_FOLDER/states.txt. Exit status 0 when every step was done,
// 1 when one could not be (the line on standard error says which, and
// stuck.png shows the screen), 64 on bad arguments.

#include "tools/tour/Tour.h"
#include "tools/tour/Walks.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vorlax-tour PROGRAM_FOLDER OUT_FOLDER\n");
        return 64;
    }
    const std::filesystem::path out = argv[2];
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) {
        std::fprintf(stderr, "vorlax-tour: cannot make %s: %s\n", argv[2], error.message().c_str());
        return 64;
    }
    const tour::TourResult result = tour::runTour(argv[1], tour::wholeTour());
    int number = 0;
    for (const tour::Picture& picture : result.pictures) {
        char name[96];
        std::snprintf(name, sizeof name, "%02d-%s.png", number++, picture.name.c_str());
        for (const std::string& text : picture.cutTexts)
            std::printf("vorlax-tour: %s: the screen's edge cuts \"%s\"\n", picture.name.c_str(),
                        text.c_str());
        for (const std::string& frame : picture.cutFrames)
            std::printf("vorlax-tour: %s: the screen's edge cuts %s\n", picture.name.c_str(), frame.c_str());
        std::string problem;
        if (!tour::writePicture(picture, out / name, problem)) {
            std::fprintf(stderr, "vorlax-tour: cannot write %s: %s\n", name, problem.c_str());
            return 1;
        }
    }
    std::ofstream states(out / "states.txt");
    for (game::State state : result.states)
        states << game::stateNumber(state) << '\n';
    if (!result.finished || !result.problem.empty()) {
        std::fprintf(stderr, "vorlax-tour: %s\n", result.problem.c_str());
        return 1;
    }
    std::printf("vorlax-tour: %zu pictures in %s\n", result.pictures.size(), argv[2]);
    return 0;
}
