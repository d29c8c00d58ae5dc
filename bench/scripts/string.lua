-- Appends the decimal text of 1..n to one string; the answer is its length.
function run(n)
  local s = ""
  for i = 1, n do
    s = s .. tostring(i)
  end
  return #s
end
