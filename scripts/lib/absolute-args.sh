# absolute_args ARG...: prints each argument ended by a NUL byte, file names made absolute
# against the current folder, so they still name the same files after the caller changes folder.
# Options (starting with "-") and empty arguments pass unchanged.
absolute_args() {
    local arg
    for arg in "$@"; do
        if [[ -n "$arg" && "$arg" != /* && "$arg" != -* ]]; then
            arg="$PWD/$arg"
        fi
        printf '%s\0' "$arg"
    done
}
