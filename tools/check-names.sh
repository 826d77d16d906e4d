#!/usr/bin/env bash
# Keeps one name per number for the game's states, game modes, event types,
# car states and effects, impact flags and anchors: states are declared only
# in game/framework/States.h (game modes beside them, event types in
# game/race/EventType.h, a car's states and effects in game/race/cEntity.h,
# the impact flags in game/race/Impacts.h), every state reaches the state
# machine by name, numbers become states or modes only through the named
# conversions, and anchor numbers come only from the lcdui anchors
# (game/framework/Anchors.h names the game's combinations).
# Grep-level on purpose: each rule names the line it refuses.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

status=0
# Prints each `git grep` hit of the pattern in the paths that follow it
# (comment lines left out) as a refusal that says why.
refuse() {
    local why=$1 pattern=$2
    shift 2
    local hits
    hits=$(git grep --untracked -nE "$pattern" -- "$@" | grep -vE '^[^:]+:[0-9]+:\s*//')
    if [ -n "$hits" ]; then
        while IFS= read -r hit; do
            echo "name check: $hit: $why" >&2
        done <<<"$hits"
        status=1
    fi
}

code=('game/*.h' 'game/*.cpp' 'tests/*.h' 'tests/*.cpp' 'bench/*.h' 'bench/*.cpp' 'fuzz/*.h' 'fuzz/*.cpp'
    'tools/*.h' 'tools/*.cpp')
outside_states=("${code[@]}" ':!game/framework/States.h')

# A name that reads as a state (a state, a screen, a menu, a question, the
# flyover or the countdown) given a number of the states' range, as a
# constant or as an enumerator.
state_name='[A-Za-z]*(State|Screen|Menu|Question|Flyover|Countdown)'
state_number='-?([0-9]|[1-3][0-9]|4[0-6])'
# The LZMA decoder numbers its own state machine.
refuse "a state number is declared outside game/framework/States.h; name it there (enum class State)" \
    "constexpr[^=(]*\bk${state_name}\s*=\s*${state_number}\s*;" "${outside_states[@]}" ':!game/data/Lzma.cpp'
refuse "a state number is declared outside game/framework/States.h; name it there (enum class State)" \
    "^\s*k?${state_name}\s*=\s*${state_number}\s*,?\s*(//.*)?$" "${outside_states[@]}"
refuse "a state number is declared outside game/framework/States.h; name it there (enum class State)" \
    "\benum\b[^{]*\{.*\bk?${state_name}\s*=\s*${state_number}\b" "${outside_states[@]}"
refuse "the state enum is declared again outside game/framework/States.h" \
    '\benum\s+(class\s+|struct\s+)?State\s*(:|\{|$)' "${outside_states[@]}"

# The state machine takes states by name.
refuse "a bare number is passed as a state; pass a State" \
    '\b(pushState|requestState|backToState|setStateHandler|stateHandler)\s*\(\s*-?[0-9]' "${code[@]}"
refuse "a bare number is passed as the state after loading; pass a State" \
    '\b(setLoadingTarget|startLoading)\s*\([^,()]*,\s*-?[0-9]+\s*\)' "${code[@]}"

# Numbers become states, modes and event types only at the named
# conversions, and the game itself never converts a number it wrote down.
refuse "a cast to a state, a game mode or an event type; convert with stateFromNumber, gameModeFromNumber or eventTypeFromNumber" \
    'static_cast<\s*(game::)?(State|GameMode|EventType)\s*>' "${code[@]}" \
    ':!game/framework/States.h' ':!game/race/EventType.h'
refuse "a written-down number is converted to a state, a game mode or an event type; use its name" \
    '\b(stateFromNumber|gameModeFromNumber|eventTypeFromNumber)\s*\(\s*-?[0-9]+\s*\)' 'game/*.h' 'game/*.cpp'
refuse "a game mode is declared outside game/framework/States.h; use GameMode" \
    "constexpr[^=(]*\bk[A-Za-z]*(GameMode|Guided?Mode|RaceMode)\s*=\s*[0-6]\s*;" \
    "${outside_states[@]}"
refuse "an event type is declared outside game/race/EventType.h; use EventType" \
    "constexpr[^=(]*\bk[A-Za-z]*EventType\s*=\s*-?[0-9]+\s*;" "${code[@]}"

# A car's state word, its effect and the impact flags are named once, beside
# the car and the impacts.
car_values=(':!game/race/cEntity.h' ':!game/race/Impacts.h')
car_state_number='(1|4|32|64|128|256|512|1024|2048|4096|16384)'
refuse "a car state or effect is declared outside game/race/cEntity.h; use CarState or CarEffect" \
    "constexpr[^=(]*\bk[A-Za-z]*(State|Effect)[A-Za-z]*\s*=\s*${car_state_number}\s*;" \
    "${outside_states[@]}" "${car_values[@]}"
refuse "an impact flag is declared outside game/race/Impacts.h; use ImpactFlag" \
    "constexpr[^=(]*\bkImpact[A-Za-z]*\s*=\s*-?[0-9]+\s*;" "${code[@]}" "${car_values[@]}"
refuse "the car state, car effect or impact flag type is declared again outside its header" \
    '\benum\s+(class\s+|struct\s+)?(CarState|CarEffect|ImpactFlag)\s*(:|\{|;|$)' "${code[@]}" "${car_values[@]}"
refuse "a number is cast to a car state, a car effect or impact flags; use their names" \
    'static_cast<\s*(game::)?(CarState|CarEffect|ImpactFlag)\s*>' "${code[@]}" "${car_values[@]}"

# Anchors are the lcdui anchors; the game's combinations are named once.
refuse "an anchor number is declared again; use the Graphics anchors or game/framework/Anchors.h" \
    'constexpr[^=(]*\bk[A-Za-z]*(Anchor(Top|Bottom|Left|Right|Centre|Center|HCent|VCent|Base)|HCent(er|re)|VCent(er|re)|TopLeft|Baseline)[A-Za-z0-9]*\s*=\s*[0-9]' \
    'game/*.h' 'game/*.cpp'

exit $status
