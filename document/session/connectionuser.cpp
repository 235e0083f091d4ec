#include "document/session/connectionuser.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<ConnectionUser*> g_arrConnectionUsers;

} // namespace

ConnectionUser::ConnectionUser() { g_arrConnectionUsers.push_back(this); }

ConnectionUser::~ConnectionUser() { std::erase(g_arrConnectionUsers, this); }

void ConnectionUser::ReleaseAll()
{
    for (ConnectionUser* user : g_arrConnectionUsers)
        user->ReleaseConnection();
}
