#pragma once
// Whatever keeps statements on the program-wide connection joins this registry while
// it lives, so that closing the database can first make every member let go.
// User-interface thread only.

class ConnectionUser {
public:
    ConnectionUser(const ConnectionUser&) = delete;
    ConnectionUser& operator=(const ConnectionUser&) = delete;

    // Stops whatever the member runs on the connection and releases its statements.
    virtual void ReleaseConnection() = 0;

    // Every member lets go of the connection; the members stay.
    static void ReleaseAll();

protected:
    ConnectionUser();  // joins
    ~ConnectionUser(); // leaves
};
