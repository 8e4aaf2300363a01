// Links one layer of the program whole with only the layers below it: an
// unresolved symbol means the layer calls into one above it.
int main() { return 0; }
