#include "application/composition_root.h"
#include "application/startup.h"

int main(int argc, char** argv)
{
    tessel::installApplicationObjects();
    const int code = tessel::runProxy(argc, argv);
    tessel::destroyApplicationObjects();
    return code;
}
