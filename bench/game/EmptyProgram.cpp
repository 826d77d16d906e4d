// The start-up benchmark's baseline: a program that does nothing, built with
// the project's flags, so that what the operating system takes to start and
// end any process stands beside what the game takes.

int main() {
    return 0;
}
