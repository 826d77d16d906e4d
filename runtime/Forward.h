#pragma once

#include "runtime/ClassId.h"

namespace rt {

class Array;
class CharArray;
class Class;
class ClassTable;
class MemoryManager;
class Object;
class OperandStack;
class Runtime;
class ObjectManager;
class StaticClass;
class String;
class ThreadState;
class ThreadStateRegistry;
class java_lang_Class;
class java_lang_Runnable;
struct ReferenceFieldTable;

template <class E, ClassId Id>
class TypedArray;
using ObjectArray = TypedArray<Object*, ClassId::ObjectArray>;

} // namespace rt
