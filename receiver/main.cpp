// Placeholder until the receiver program lands.
int main() { return 0; }
