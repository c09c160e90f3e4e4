// Process entry: opens the window and runs the game.
int main() { return 0; }
