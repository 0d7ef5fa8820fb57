// ImgCut3.dll, ImgEtc3.dll, ImgScan3.dll and ImgTiff3.dll: modules of the
// library that a distribution ships and a host loads by name. They export no
// entry point yet, so a host that looks up their functions finds none and
// goes without them; the pictures themselves are handled by ImgCom3.dll,
// ImgFile3.dll and ImgDsp3.dll.
