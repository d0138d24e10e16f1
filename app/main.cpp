#include "startup.h"

int main(int argc, char** argv)
{
    return tessel::runProxy(argc, argv);
}
