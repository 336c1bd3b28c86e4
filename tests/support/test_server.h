#pragma once
// A throw-away PostgreSQL cluster for the tests of the server store: created in a temporary
// directory at the first use in a test program, reached over a unix socket inside it only, and
// removed when the program ends. Each test takes a database of its own.

#include <QString>
#include <QStringList>

class TestServer {
  public:
    // The cluster of this test program; started at the first call.
    static TestServer& Instance();
    ~TestServer();

    // True when the cluster runs; else Error() says why (no PostgreSQL installed, ...).
    bool Running() const { return running_; }
    const QString& Error() const { return error_; }

    // Creates an empty database and returns the libpq connection string to it, "" on failure.
    QString NewDatabase();

    // A shell command that kills the whole server at once, as a crash or a power cut would;
    // run by the server itself (COPY ... TO PROGRAM) it strikes in the middle of a statement.
    QString KillCommand() const;
    // Stops the server at once, as a crash would, and returns when it is gone.
    void Stop();
    // Starts the server again after a kill or a stop, with its crash recovery; every database
    // is kept.
    bool Restart();

  private:
    TestServer();
    bool Start();
    bool StartCluster();
    bool WriteAccessRules();
    // Runs one of the server's programs, as the postgres user when needed.
    bool Run(const QString& program, const QStringList& arguments);
    bool Admin(const QString& sql);

    QString dir_;
    QString bin_;
    bool running_ = false;
    bool asPostgres_ = false;  // run as root: the server runs as the postgres user
    QString error_;
    int databases_ = 0;
};
