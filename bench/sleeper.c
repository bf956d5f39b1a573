/* Keeps a Wine prefix's server and services warm during a benchmark. */
#include <windows.h>
int main(void) { Sleep(INFINITE); return 0; }
