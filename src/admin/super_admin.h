#pragma once

// Asks for the super administrator's password in an input box; true when the typed text is
// that password. Tells the user when the account is missing or the password is wrong.
bool VerifySuperAdminPassword();
