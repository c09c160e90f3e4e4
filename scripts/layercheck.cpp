// The program each folder library is linked into with only the libraries it
// declares (CMakeLists.txt): it runs nothing, the link itself is the check.
int main() { return 0; }
