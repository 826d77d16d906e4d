#pragma once

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

} // namespace rt
