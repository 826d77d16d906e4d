# The argument check of tools/run.sh, sourced by it: whether its arguments
# name a program folder of their own.

# Prints 1 when a word among the arguments is neither an option nor the
# value of an option that takes one (a program folder), else 0.
program_folder_given() {
    local given=0 expect_value=0 argument
    for argument in "$@"; do
        if [ "$expect_value" = 1 ]; then
            expect_value=0
        elif [[ $argument == --frames || $argument == --screenshot || $argument == --script || $argument == --shots ||
            $argument == --seed || $argument == --record || $argument == --hashes || $argument == --race ]]; then
            expect_value=1
        elif [[ $argument != -* ]]; then
            given=1
        fi
    done
    echo "$given"
}
