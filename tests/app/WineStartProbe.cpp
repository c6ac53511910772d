// Says that it runs, then waits for its input to end: while it waits, a test can look from
// outside at the Wine process that runs it.

#include <iostream>
#include <limits>

int main()
{
    std::cout << "running" << std::endl;
    std::cin.ignore (std::numeric_limits<std::streamsize>::max());
    return 0;
}
