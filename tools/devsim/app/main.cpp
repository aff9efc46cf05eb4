#include "Agent.h"

int main(int argc, char **argv)
{
    return devsim::runDevsim(argc, argv);
}
