#pragma once

namespace rt {

class Class;
class ClassTable;
class MemoryManager;
class Object;
class Runtime;
class ObjectManager;
class StaticClass;
class String;
class java_lang_Class;
class java_lang_Runnable;
struct ReferenceFieldTable;

} // namespace rt
