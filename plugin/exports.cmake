# The module's entry points: the one list of their names, in the order the
# host's interface lists them. The module's build and the release's check
# both read it.
set(MOSSGRAIN_EXPORTS
  GetPackerCaps PackFiles OpenArchive ReadHeader ProcessFile CloseArchive
  SetChangeVolProc SetProcessDataProc ConfigurePacker)
