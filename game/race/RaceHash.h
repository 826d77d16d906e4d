#pragma once
// The race-state hash: one 64-bit number that changes when anything the
// simulation keeps changes. Two runs that agree on it after every step
// have run the same race; the replay's hash output prints it.
//
// What it covers, in this order:
// - every statics block of the race layer (the race, the frame, the race
//   entity, the utilities, the event goals, the track, the racers, the race
//   and event tables, the race phase, impacts, triggers and race objects,
//   the driving, the computer drivers, the track geometry's trace, and the
//   view pass's camera, slices and car switches) and those the race reads and writes beside them (the
//   event slots, the saved event records), with the guided race's game mode;
//   not the painters' own statics (the race images);
// - through their references, every object they reach: arrays by length
//   and elements, strings by their units, every car and race object by every
//   field (reached through the racer list, the object pool and the player's
//   car, or the view pass's slice bins); an object of any other class counts
//   by its class id only;
// - the shared Random's 48-bit state (a marker when none exists yet).
//
// Plain fields are hashed as the bytes of their block or object, from the
// first field to the end, skipping the listed reference fields (followed
// instead). Blocks and objects start zeroed (value-initialised statics,
// zeroed heap blocks), so the padding between fields is zero and stays so;
// `resetRaceStatics` keeps that true when a run starts again. An object
// reached a second time counts by the order of its first visit, so shared
// and cyclic references (a car's route blocker) hash the same on every run.
// A new statics block of the race layer joins the list in RaceHash.cpp, or
// the list of blocks left out beside it; a test holds the two lists against
// every statics block the race layer's sources make.
//
// Game thread only.
#include <cstdint>
#include <string>
#include <vector>

namespace game {

std::uint64_t raceStateHash();

// The hash of each part on its own, named as `raceHashedStatics` names the
// blocks, then "gameMode" and "random": where two runs part, the parts whose
// hashes differ say which state went apart first. The replay tests ask.
struct RaceBlockHash {
    std::string name;
    std::uint64_t hash = 0;
};
std::vector<RaceBlockHash> raceStateBlockHashes();

// Gives every statics block the hash covers its first state again, padding
// included, and runs `raceStaticInit`: the state a race is set up from (for
// a second run in one process, and for tests).
void resetRaceStatics();
// The race layer's class initialisers, which start-up runs once: the
// driving tables, the camera's defaults, the view pass's slice bins, the
// computer drivers' tuning table and the championship's tables.
void raceStaticInit();

// The names of the statics types the hash covers ("RaceStatics"), and of the
// race layer's statics types it leaves out on purpose: the test that holds
// the hash to every statics block of the layer reads both.
std::vector<std::string> raceHashedStatics();
std::vector<std::string> raceStaticsLeftOut();

} // namespace game
