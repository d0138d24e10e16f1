#include "application/composition_root.h"
#include "application/startup.h"

int main(int argc, char** argv)
{
    tessel::installApplicationObjects();
    return tessel::runProxy(argc, argv);
}
