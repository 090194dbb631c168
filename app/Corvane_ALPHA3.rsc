# The program's resources: TYPE ID FILE
MANIFEST 1 Corvane_ALPHA3.manifest
