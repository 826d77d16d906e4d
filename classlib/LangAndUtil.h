#pragma once

// Start-up of the number, system and collection classes.

#include "runtime/Runtime.h"

namespace lib {

// Registers the `newInstanceById` factories of Boolean, Integer, Runtime,
// Random, Vector, Hashtable and the Hashtable's entry and enumerator. Each
// answers an object made by its class's no-argument constructor: a Vector
// or Hashtable keeps its storage invariant only through a constructor. Runs
// once, before other threads.
void installLangAndUtil(rt::Runtime& runtime);

// The static initialisers of Boolean, System and Runtime, in that order. They
// need the constant strings; the start-up sequence runs them with the other
// class initialisers.
void runLangStaticInitialisers();

} // namespace lib
