#pragma once

// Start-up of the number, system and collection classes.

#include "runtime/Runtime.h"

namespace lib {

// Registers the `newInstanceById` factories of StringBuffer, Boolean,
// Integer, Runtime, Random, Vector, Hashtable and the Hashtable's entry and
// enumerator: every field zero, no constructor of the profile run (a
// StringBuffer or Vector without storage, a Hashtable without buckets: each
// grows on first use). Part of `installClassLibrary`.
void installLangAndUtil(rt::Runtime& runtime);

// The static initialisers of Boolean, System and Runtime, in that order. They
// need the constant strings; the start-up sequence runs them with the other
// class initialisers.
void runLangStaticInitialisers();

} // namespace lib
