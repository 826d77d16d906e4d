#pragma once

// The paths of this build that a test or benchmark executable needs: the
// programs it runs and the files and folders it reads and writes. Each
// executable defines the ones it uses in a source of its own that CMake writes
// (vorlax_build_paths), so that its other sources hold no path of the
// checkout: they compile to the same object in any clone, and the compiler
// cache serves them there.

namespace testing_support::build_paths {

extern const char* const program;       // the game, `vorlax`
extern const char* const mkdata;        // the demo set's writer
extern const char* const datacheck;     // the data set's checker
extern const char* const vorbisEncode;  // the reference Ogg Vorbis encoder
extern const char* const sourceDir;     // the checkout's top folder
extern const char* const testSourceDir; // its tests/ folder
extern const char* const testOutputDir; // the build's tests/ folder
extern const char* const emptyProgram;  // a program that does nothing
extern const char* const demoScript;    // the run command's demo script
extern const char* const mediaCorpus;   // the media player's fuzzing corpus

} // namespace testing_support::build_paths

#define VORLAX_PROGRAM (::testing_support::build_paths::program)
#define VORLAX_MKDATA (::testing_support::build_paths::mkdata)
#define VORLAX_DATACHECK (::testing_support::build_paths::datacheck)
#define VORLAX_VORBIS_ENCODE (::testing_support::build_paths::vorbisEncode)
#define VORLAX_SOURCE_DIR (::testing_support::build_paths::sourceDir)
#define VORLAX_TEST_SOURCE_DIR (::testing_support::build_paths::testSourceDir)
#define VORLAX_TEST_OUTPUT_DIR (::testing_support::build_paths::testOutputDir)
#define VORLAX_EMPTY_PROGRAM (::testing_support::build_paths::emptyProgram)
#define VORLAX_DEMO_SCRIPT (::testing_support::build_paths::demoScript)
#define VORLAX_MEDIA_CORPUS (::testing_support::build_paths::mediaCorpus)
