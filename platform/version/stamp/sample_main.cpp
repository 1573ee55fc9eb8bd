// A small stamped program: the installer tests copy it and restamp the copies.
int main() { return 0; }
