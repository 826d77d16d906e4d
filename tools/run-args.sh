# The argument checks of tools/run.sh, sourced by it: whether its arguments
# name a program folder of their own, and the log file they name.

# Prints, one word a line, the arguments that are neither an option nor the
# value of an option that takes one (program folders).
program_folders() {
    local expect_value=0 argument
    for argument in "$@"; do
        if [ "$expect_value" = 1 ]; then
            expect_value=0
        elif [[ $argument == --frames || $argument == --screenshot || $argument == --script || $argument == --shots ||
            $argument == --seed || $argument == --record || $argument == --hashes || $argument == --race ||
            $argument == --log ]]; then
            expect_value=1
        elif [[ $argument != -* ]]; then
            echo "$argument"
        fi
    done
}

# Prints 1 when a word among the arguments is a program folder, else 0.
program_folder_given() {
    if [ -n "$(program_folders "$@")" ]; then echo 1; else echo 0; fi
}

# Prints the program folder the arguments name (the first, if several).
program_folder_named() {
    program_folders "$@" | head -n 1
}

# Prints the file a --log among the arguments names (the last one), or nothing.
log_file_given() {
    local file="" expect=0 argument
    for argument in "$@"; do
        if [ "$expect" = 1 ]; then
            file=$argument
            expect=0
        elif [ "$argument" = --log ]; then
            expect=1
        fi
    done
    echo "$file"
}
