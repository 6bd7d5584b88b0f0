#include <cstdio>

int main()
{
    std::puts("tavola-cli");
    return 0;
}
