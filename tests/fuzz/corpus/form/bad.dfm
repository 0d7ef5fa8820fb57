object A: TB
  X = 'unterminated
end
