# The program's resources: TYPE ID FILE...
MANIFEST    1  Corvane_ALPHA3.manifest
# The program icon, the wrench the splash window carries: one group of two images.
GROUP_ICON  1  art/wrench32.xpm art/wrench16.xpm
VERSION     1  Corvane_ALPHA3.version
