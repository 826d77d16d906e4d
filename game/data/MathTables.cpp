#include "game/data/MathTables.h"

#include "game/data/PackReader.h"
#include "game/framework/FixedPoint.h"
#include "game/framework/MissingData.h"
#include "game/framework/Streams.h"
#include "host/Log.h"
#include "runtime/StaticClass.h"

namespace game {

namespace {

rt::IntArray* readIntTable(std::int32_t entry) {
    if (entry < 0)
        return nullptr;
    rt::Object* array = packReadArray(entry);
    if (array && array->classId() != rt::ClassId::IntArray) {
        host::logf(host::LogCategory::Game, "loadMathTables: entry %d is no int array", entry);
        return nullptr;
    }
    return static_cast<rt::IntArray*>(array);
}

} // namespace

void loadMathTables(rt::String* packName, std::int32_t entryA, std::int32_t entryB) {
    packOpen(packName);
    setCosTable(readIntTable(entryA));
    setCosCompanion(readIntTable(entryB));
    closeStream();
}

std::string fixedPointTableProblem() {
    const FixedPointStatics& fixed = fixedPointStatics();
    const std::int32_t needed = fixed.s_quarterCircle + 1;
    if (!fixed.s_cosTable)
        return "entry 0 (the cosine table) is no int array or cannot be read";
    if (fixed.s_cosTable->length() != needed)
        return "entry 0 (the cosine table) holds " + std::to_string(fixed.s_cosTable->length()) +
               " values, not " + std::to_string(needed);
    if (!fixed.s_cosCompanion)
        return "entry 1 is no int array or cannot be read";
    return {};
}

void loadFixedPointTables(std::int32_t packNameConstant) {
    rt::String* name = rt::getStaticClass().getConstantString(packNameConstant);
    loadMathTables(name, 0, 1);
    const FixedPointStatics& fixed = fixedPointStatics();
    host::logf(host::LogCategory::Game, "fixed-point tables from %s: %d cosine values, %d beside them",
               name ? name->toUtf8().c_str() : "(none)", fixed.s_cosTable ? fixed.s_cosTable->length() : -1,
               fixed.s_cosCompanion ? fixed.s_cosCompanion->length() : -1);
    if (std::string problem = fixedPointTableProblem(); !problem.empty())
        endRunWithBrokenData(name ? name->toUtf8() : std::string("(no pack)"), problem);
}

} // namespace game
