/* Resource carriers for the version reader tests: no code of their own. */
int version_fixture_unused;
