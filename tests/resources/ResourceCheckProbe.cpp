// Runs the resource manager's start-up check on the files of its own folder and
// answers with the result as exit code, so tests can check folders as the
// connection manager would at start-up.
#include "ResourceManager.h"

int main()
{
    return ResourceManager::Instance().CheckFiles();
}
